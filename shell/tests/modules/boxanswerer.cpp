// A stand-in for the user, preloaded into the program (LD_PRELOAD) for boxes that come before any
// module could answer them, such as the offer of an autosave at start-up: every message box shown
// has its text appended to the file VKT_TEST_BOXLOG (one line, "|" for line breaks) and is
// answered as a user agreeing would (Yes, else OK). With VKT_TEST_CLOSE_MS set, that long after the
// first frame is shown its close button is pressed, as the window manager's is.

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
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
            QAbstractButton* yes = shown->button(QMessageBox::Yes);
            QAbstractButton* ok = shown->button(QMessageBox::Ok);
            if (QAbstractButton* agree = yes ? yes : ok)
                agree->click();
        });
    }

    // The first top-level window that is not a box: the program's frame.
    void closelater(QWidget* window)
    {
        const char* delay = std::getenv("VKT_TEST_CLOSE_MS");
        if (!delay || qobject_cast<QMessageBox*>(window) || window->windowType() != Qt::Window)
            return;
        closing = true;
        QPointer<QWidget> frame(window);
        QTimer::singleShot(std::atoi(delay), qApp, [frame] {
            if (frame)
                frame->close();
        });
    }

    bool closing = false;
};

void install()
{
    QCoreApplication::instance()->installEventFilter(new BOXANSWERER);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
