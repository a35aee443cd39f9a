#include "app/JobProgress.h"

#include "app/Dialogs.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>

#include <optional>

namespace {

// The bar moves in thousandths, whatever the size of the job.
constexpr int kBarSteps = 1000;

}  // namespace

QString frenchCount(std::uint64_t count)
{
    return QLocale(QLocale::French, QLocale::France).toString(static_cast<qulonglong>(count));
}

JobProgress::JobProgress(QWidget* parent, std::uint64_t quietTotal, LabelText label, Modality modality)
    : parent_(parent), quietTotal_(quietTotal), label_(std::move(label)), modality_(modality)
{
}

JobProgress::~JobProgress() = default;

bool JobProgress::step(std::uint64_t done, std::uint64_t total)
{
    if (total <= quietTotal_)
        return true;
    const QString label = label_(done, total);
    if (!opened_)
        open(label);
    if (dialog_) {
        const double part = done >= total ? 1.0 : static_cast<double>(done) / static_cast<double>(total);
        dialog_->setValue(static_cast<int>(part * kBarSteps));
        dialog_->setLabelText(label);
    }
    QCoreApplication::processEvents();
    return dialog_ ? !dialog_->wasCanceled() : !cancelledByTest_;
}

void JobProgress::open(const QString& label)
{
    opened_ = true;
    if (const std::optional<bool> cancelled = Dialogs::progressCancelledByTest(label)) {
        cancelledByTest_ = *cancelled;
        return;
    }
    dialog_ = std::make_unique<QProgressDialog>(parent_);
    dialog_->setObjectName(QStringLiteral("JobProgress"));
    dialog_->setWindowTitle(Dialogs::applicationTitle());
    dialog_->setCancelButtonText(QStringLiteral("Annuler"));
    dialog_->setWindowModality(modality_ == Modality::Application ? Qt::ApplicationModal : Qt::NonModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setRange(0, kBarSteps);
    dialog_->show();
}
