// A stand-in for the user, preloaded into the program (LD_PRELOAD) for boxes that come before any
// module could answer them, such as the offer of an autosave at start-up: every message box shown
// has its text appended to the file VKT_TEST_BOXLOG (one line, "|" for line breaks) and is
// answered as a user agreeing would (Yes, else OK, else the default button). With VKT_TEST_CLOSE_MS set, that long after the
// program first shows a window the close buttons of its frames are pressed, as the window
// manager's are.

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <fstream>

namespace {

class BOXANSWERER : public QObject {
public:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        if (auto* box = qobject_cast<QMessageBox*>(object))
            answer(box);
        else if (auto* widget = qobject_cast<QWidget*>(object); widget && widget->isWindow() && !closing)
            closelater(widget);
        return false;
    }

private:
    void answer(QMessageBox* box)
    {
        if (const char* log = std::getenv("VKT_TEST_BOXLOG"))
            std::ofstream(log, std::ios::app) << box->text().replace('\n', '|').toStdString() << '\n';
        QPointer<QMessageBox> shown(box);
        QTimer::singleShot(0, box, [shown] {
            if (!shown)
                return;
            // Buttons are told by what they say: the program labels its own.
            for (const char* agreeing : { "Yes", "OK" })
                for (QAbstractButton* button : shown->buttons())
                    if (button->text().remove('&').compare(agreeing, Qt::CaseInsensitive) == 0) {
                        button->click();
                        return;
                    }
            if (QAbstractButton* preferred = shown->defaultButton())
                preferred->click();
        });
    }

    // Once a window of the program is first shown: its frames are closed after the delay.
    void closelater(QWidget* window)
    {
        const char* delay = std::getenv("VKT_TEST_CLOSE_MS");
        if (!delay || qobject_cast<QMessageBox*>(window) || window->windowType() != Qt::Window)
            return;
        closing = true;
        QTimer::singleShot(std::atoi(delay), qApp, [] {
            for (QWidget* each : QApplication::topLevelWidgets())
                if (each->isVisible() && each->windowType() == Qt::Window && !qobject_cast<QMessageBox*>(each))
                    each->close();
        });
    }

    bool closing = false;
};

void install()
{
    // Only the program answers boxes: the processes it starts (the sanitizers' symbolizer among
    // them) must not load the stand-in.
    unsetenv("LD_PRELOAD");
    QCoreApplication* application = QCoreApplication::instance();
    auto* answerer = new BOXANSWERER;
    answerer->setParent(application);
    application->installEventFilter(answerer);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
