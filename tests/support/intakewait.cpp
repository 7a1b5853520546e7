#include "support/intakewait.h"

#include "intake/intakerun.h"

#include <QDeadlineTimer>
#include <QTest>

bool waitForIntakes(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (IntakeRun::running() && !deadline.hasExpired())
        QTest::qWait(5);
    return !IntakeRun::running();
}
