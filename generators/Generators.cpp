#include "generators/Generators.h"

#include <stdexcept>

namespace torvanel {

const std::array<SingleGroupGenerator, 8>& SingleGroupGenerators() {
    // The outsider generators for three horses and more accept a single
    // outsider: it can still be mixed with bases.
    static const std::array<SingleGroupGenerator, 8> table{{
        {"CombineBases2", Group::Bases, 2, 2, "Vous devez sélectionner au moins 2 bases..."},
        {"CombineOuts2", Group::Outs, 2, 2, "Vous devez sélectionner au moins 2 outs..."},
        {"CombineBases3", Group::Bases, 3, 3, "Vous devez sélectionner au moins 3 bases..."},
        {"CombineOuts3", Group::Outs, 3, 1, "Vous devez sélectionner au moins 1 outsider..."},
        {"CombineBases4", Group::Bases, 4, 4, "Vous devez sélectionner au moins 4 bases..."},
        {"CombineOuts4", Group::Outs, 4, 1, "Vous devez sélectionner au moins 1 outsider..."},
        {"CombineBases5", Group::Bases, 5, 5, "Vous devez sélectionner au moins 5 bases..."},
        {"CombineOuts5", Group::Outs, 5, 1, "Vous devez sélectionner au moins 1 outsider..."},
    }};
    return table;
}

const SingleGroupGenerator& SingleGroupGeneratorFor(Group group, int size) {
    for (const SingleGroupGenerator& generator : SingleGroupGenerators())
        if (generator.group == group && generator.size == size) return generator;
    throw std::invalid_argument("no single-group generator of that size");
}

const std::array<FusionGenerator, 9>& FusionGenerators() {
    static const std::array<FusionGenerator, 9> table{
        {Fuse1B1O, Fuse2B1O, Fuse1B2O, Fuse2B2O, Fuse1B3O, Fuse3B1O, Fuse3B2O, Fuse2B3O, Fuse4B1O}};
    return table;
}

void AppendCombinations(ResultList& list, const std::vector<HorseNumber>& group, int size) {
    list.append(ResultBlock{group, size, {}, 0, 0});
}

void AppendFusion(ResultList& list, const FusionGenerator& generator,
                  const std::vector<HorseNumber>& bases, const std::vector<HorseNumber>& outs) {
    list.append(ResultBlock{bases, generator.baseTake, outs, generator.outTake, 0});
}

}  // namespace torvanel
