#pragma once

// The start-up picture: it fades in, shows progress messages, stays up for a minimum time unless
// clicked, and fades out.

#include <QEventLoop>
#include <QSplashScreen>
#include <functional>

class SPLASHSCREEN : public QSplashScreen {
public:
    // Milliseconds since some fixed moment (the system's start by default).
    using CLOCK = std::function<unsigned long()>;

    // caption: drawn at the foot of the picture; minimum: milliseconds it stays up at least.
    SPLASHSCREEN(const QPixmap& picture, const QString& caption, unsigned long minimum, CLOCK clock = {});

    // Fades in over ms milliseconds, then returns.
    void show(int ms);
    // Shows the text at the bottom centre in white, at once.
    void showMessage(const QString& text);
    // Unless immediate, waits out the minimum time (a click ends the wait); then fades out over ms
    // milliseconds and closes. Nothing when not visible.
    void hide(int ms, bool immediate);
    const QString& getcaption() const { return caption; }

protected:
    void drawContents(QPainter* painter) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void fade(qreal from, qreal to, int ms);

    qint64 shownat = 0;
    unsigned long minimum;
    QString caption;
    CLOCK clock;
    QEventLoop waiting;
};
