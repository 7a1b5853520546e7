#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

// A ring around the widget that has keyboard focus, in a colour that stands out from every ground of
// the dark theme; shown when focus came from the keyboard, not from a click.
class FocusRing : public QObject
{
    Q_OBJECT
public:
    static constexpr int width = 2;

    // Follows focus through the whole application; once is enough.
    static void install();
    // The ring's widget while it shows, for a look at its pixels.
    static QWidget* shown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
    void follow(QWidget* widget);
    void place();
    void paint();

    QPointer<QWidget> target;
    // A child of the target's parent, so it draws around the target; it goes with that parent.
    QPointer<QWidget> ring;
};
