#include "app/arrivalfit.h"

#include "intake/intakerun.h"

#include <algorithm>

ArrivalFit::ArrivalFit(std::function<void()> fit, QObject* parent) : QObject(parent), fit(std::move(fit))
{
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, this, &ArrivalFit::fitNow);
}

void ArrivalFit::photosChanged(int count)
{
    if (count == 0) {
        stripWasEmpty = true;
        fitting = false;
        timer.stop();
        return;
    }
    if (stripWasEmpty) {
        stripWasEmpty = false;
        fitting = true;
        lastFit.invalidate();
        run = IntakeRun::running();
        if (run)
            connect(run, &IntakeRun::finished, &timer, [this] {
                run = nullptr;
                timer.start(0);
            });
    }
    if (fitting && !timer.isActive())
        timer.start(lastFit.isValid() ? int(std::max<qint64>(0, intervalMs - lastFit.elapsed())) : 0);
}

void ArrivalFit::fitNow()
{
    if (!fitting)
        return;
    fit();
    lastFit.start();
    // No intake, or it has finished: that was the last fit.
    if (!run)
        fitting = false;
}
