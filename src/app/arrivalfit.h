#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class IntakeRun;

// Fits a new strip while its photos arrive: at once for the first, then at most once a second, and a
// last time when the intake that brings them ends. A zoom the user chooses meanwhile wins.
class ArrivalFit : public QObject
{
    Q_OBJECT
public:
    ArrivalFit(std::function<void()> fit, QObject* parent = nullptr);

    static constexpr int intervalMs = 1000;

    void photosChanged(int count);
    void userZoomed() { fitting = false; }
    bool isFitting() const { return fitting; }

private:
    void fitNow();

    std::function<void()> fit;
    QTimer timer;
    QElapsedTimer lastFit;
    bool stripWasEmpty = true;
    bool fitting = false;
    QPointer<IntakeRun> run; // the intake bringing the photos of a new strip
};
