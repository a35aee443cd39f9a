#pragma once
// The seventeen line generators of the program, as tables of parameters over
// two routines: lines of one group among itself (CombineBases2 ... CombineOuts5)
// and lines of bases mixed with outsiders (Fuse1B1O ... Fuse4B1O).

#include "generators/ResultList.h"

#include <array>
#include <string_view>
#include <vector>

namespace torvanel {

enum class Group { Bases, Outs };

struct SingleGroupGenerator {
    std::string_view name;   // CombineBases2 ...
    Group group;
    int size;                // horses per line
    int minimum;             // fewest horses accepted when the list is emptied first
    std::string_view tooFewMessage;
};

struct FusionGenerator {
    std::string_view name;   // Fuse1B1O ...
    int baseTake;            // bases per line
    int outTake;             // outsiders per line
};

// In the order CombineBases2, CombineOuts2, CombineBases3, ... CombineOuts5.
const std::array<SingleGroupGenerator, 8>& SingleGroupGenerators();
const SingleGroupGenerator& SingleGroupGeneratorFor(Group group, int size);

// The nine fusion generators, one for each split a bet type offers.
inline constexpr FusionGenerator Fuse1B1O{"Fuse1B1O", 1, 1};
inline constexpr FusionGenerator Fuse2B1O{"Fuse2B1O", 2, 1};
inline constexpr FusionGenerator Fuse1B2O{"Fuse1B2O", 1, 2};
inline constexpr FusionGenerator Fuse2B2O{"Fuse2B2O", 2, 2};
inline constexpr FusionGenerator Fuse1B3O{"Fuse1B3O", 1, 3};
inline constexpr FusionGenerator Fuse3B1O{"Fuse3B1O", 3, 1};
inline constexpr FusionGenerator Fuse3B2O{"Fuse3B2O", 3, 2};
inline constexpr FusionGenerator Fuse2B3O{"Fuse2B3O", 2, 3};
inline constexpr FusionGenerator Fuse4B1O{"Fuse4B1O", 4, 1};

// All nine, in the order above.
const std::array<FusionGenerator, 9>& FusionGenerators();

// Appends every choice of `size` horses of `group`, horses in list order.
void AppendCombinations(ResultList& list, const std::vector<HorseNumber>& group, int size);

// Appends every choice of the generator's number of bases with its number of
// outsiders, bases first.
void AppendFusion(ResultList& list, const FusionGenerator& generator,
                  const std::vector<HorseNumber>& bases, const std::vector<HorseNumber>& outs);

}  // namespace torvanel
