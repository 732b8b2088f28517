#include "platform/drelm/formtemplate.h"

#include <QBuffer>
#include <QUiLoader>
#include <QWidget>
#include <QXmlStreamReader>
#include <cstring>
#include <vector>

#include "core/windows/applncontext.h"
#include "platform/drelm/formregistry.h"
#include "platform/win/resources.h"

namespace drelm {
namespace {

constexpr WORD RT_DIALOG_ID = 5;
constexpr long NOSIZELIMIT = 16777215; // the toolkit's "no maximum size"

const char* const widgetclasses[] = { "QWidget", "QDialog", "QFrame", "Line", "QGroupBox", "QTabWidget",
    "QScrollArea", "QLabel", "QPushButton", "QCheckBox", "QRadioButton", "QLineEdit", "QPlainTextEdit",
    "QSpinBox", "QComboBox", "QListWidget", "QTreeWidget", "QTableWidget", "QSlider" };
const char* const layoutclasses[] = { "QVBoxLayout", "QHBoxLayout", "QGridLayout", "QFormLayout" };
// Elements that would reach outside the layout: signal connections to arbitrary slots, images and
// files named by path, custom widgets with their headers. (Designer's empty <connections/> and
// <resources/> are harmless.)
const char* const refused[] = { "connection", "pixmap", "iconset", "include", "customwidget" };

template <size_t N> bool listed(const char* const (&names)[N], QStringView name)
{
    for (const char* n : names)
        if (name == QLatin1String(n))
            return true;
    return false;
}

// A widget being read: what decides whether its binding is safe.
struct OpenWidget {
    QString classname;
    bool bound = false;
    bool haslength = false;
    bool notext = false; // a value or key edit, bound to a number
    int line = 0;
};

class Checker {
public:
    explicit Checker(const QByteArray& layout)
        : reader(layout)
    {
    }

    std::string run()
    {
        while (!reader.atEnd() && problem.empty()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                start();
                break;
            case QXmlStreamReader::EndElement:
                end();
                break;
            default:
                break;
            }
        }
        if (problem.empty() && reader.hasError())
            fail(reader.errorString().toStdString());
        if (problem.empty() && !sawroot)
            fail("the layout has no <ui> element");
        return problem;
    }

private:
    void fail(const std::string& what)
    {
        if (problem.empty())
            problem = "line " + std::to_string(reader.lineNumber()) + ": " + what;
    }

    void start()
    {
        const QStringView name = reader.name();
        if (path.empty()) {
            if (name != QLatin1String("ui"))
                return fail("the layout's root element is <" + name.toString().toStdString() + ">, not <ui>");
            sawroot = true;
        }
        if (path.size() >= MAXDEPTH)
            return fail("elements nest deeper than " + std::to_string(MAXDEPTH) + " levels");
        if (listed(refused, name))
            return fail("<" + name.toString().toStdString() + "> is not allowed in a form");
        const QString classname = reader.attributes().value(QLatin1String("class")).toString();
        if (name == QLatin1String("widget")) {
            if (!listed(widgetclasses, classname))
                return fail("widget class '" + classname.toStdString() + "' is not allowed in a form");
            if (++widgets > MAXWIDGETS)
                return fail("more than " + std::to_string(MAXWIDGETS) + " widgets");
            open.push_back({ classname, false, false, false, static_cast<int>(reader.lineNumber()) });
        } else if (name == QLatin1String("layout") && !listed(layoutclasses, classname)) {
            return fail("layout class '" + classname.toStdString() + "' is not allowed in a form");
        } else if (name == QLatin1String("property")) {
            property = reader.attributes().value(QLatin1String("name")).toString();
            if (!open.empty() && path.back() == QLatin1String("widget")) {
                open.back().haslength |= property == QLatin1String("maxLength");
                open.back().notext
                    |= property == QLatin1String("valuekind") || property == QLatin1String("keyedit");
            }
        } else if (name == QLatin1String("bool") && property == QLatin1String("bind") && !open.empty()
            && path.size() >= 2 && path.back() == QLatin1String("property")
            && path[path.size() - 2] == QLatin1String("widget")) {
            open.back().bound = reader.readElementText().trimmed() == QLatin1String("true");
            return; // read to its end
        } else if (isextent(name)) {
            checkextent(name);
            return; // the number was read to its end
        }
        path.push_back(name.toString());
    }

    void end()
    {
        if (path.empty())
            return;
        if (path.back() == QLatin1String("widget") && !open.empty()) {
            const OpenWidget& w = open.back();
            const bool edit
                = w.classname == QLatin1String("QLineEdit") || w.classname == QLatin1String("QPlainTextEdit");
            if (w.bound && edit && !w.notext && !w.haslength)
                fail("the bound edit that starts on line " + std::to_string(w.line)
                    + " has no maxLength (the size of its buffer less one)");
            open.pop_back();
        }
        path.pop_back();
    }

    bool isextent(QStringView name) const
    {
        if (path.empty())
            return false;
        const QString& parent = path.back();
        const bool inrect = parent == QLatin1String("rect");
        const bool insize = parent == QLatin1String("size");
        return ((inrect || insize) && (name == QLatin1String("width") || name == QLatin1String("height")))
            || (inrect && (name == QLatin1String("x") || name == QLatin1String("y")));
    }

    void checkextent(QStringView name)
    {
        const std::string what = name.toString().toStdString();
        const bool insize = path.back() == QLatin1String("size");
        bool ok = false;
        const long value = reader.readElementText().trimmed().toLong(&ok);
        if (!ok)
            return fail("the " + what + " is no number");
        if ((value > MAXEXTENT || value < -MAXEXTENT) && !(insize && value == NOSIZELIMIT))
            fail("the " + what + " " + std::to_string(value) + " is out of range (at most "
                + std::to_string(MAXEXTENT) + ")");
    }

    QXmlStreamReader reader;
    std::vector<QString> path;
    std::vector<OpenWidget> open;
    QString property; // the name of the property last opened
    std::string problem;
    int widgets = 0;
    bool sawroot = false;
};

// The loader refuses any class the checker would, should a layout reach it unchecked.
class Loader : public QUiLoader {
public:
    QWidget* createWidget(const QString& classname, QWidget* parent, const QString& name) override
    {
        if (!listed(widgetclasses, classname))
            return nullptr;
        return QUiLoader::createWidget(classname, parent, name);
    }
};

bool findin(HINSTANCE module, const char* name, QByteArray& layout)
{
    HRSRC resource = FindResourceA(module, name, MAKEINTRESOURCEA(RT_DIALOG_ID));
    if (!resource)
        return false;
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, resource)));
    layout = QByteArray(bytes, static_cast<int>(SizeofResource(module, resource)));
    return true;
}

} // namespace

bool findlayout(const char* name, QByteArray& layout, HINSTANCE& module, std::string& error)
{
    if (!name || !*name) {
        error = "A form needs a name.";
        return false;
    }
    const APPLNCONTEXT* context = getapplncontext();
    std::vector<HINSTANCE> modules;
    if (context->resourceinstance)
        modules.push_back(context->resourceinstance);
    modules.push_back(context->instance);
    if (HINSTANCE library = getformlibrary())
        modules.push_back(library);
    for (HINSTANCE candidate : modules) {
        if (findin(candidate, name, layout)) {
            module = candidate;
            return true;
        }
    }
    error = std::string("The form '") + name + "' cannot be found.";
    return false;
}

std::string checklayout(const QByteArray& layout)
{
    if (layout.size() > MAXLAYOUTBYTES)
        return "line 1: the layout is larger than " + std::to_string(MAXLAYOUTBYTES) + " bytes";
    return Checker(layout).run();
}

QWidget* buildlayout(const QByteArray& layout, std::string& error)
{
    QByteArray bytes = layout;
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    Loader loader;
    QWidget* root = loader.load(&device, nullptr);
    if (!root)
        error = loader.errorString().toStdString();
    return root;
}

QWidget* loadlayout(const char* name, HINSTANCE& module, std::string& error)
{
    QByteArray layout;
    if (!findlayout(name, layout, module, error))
        return nullptr;
    std::string problem = checklayout(layout);
    if (!problem.empty()) {
        error = std::string("The form '") + name + "' is damaged: " + problem;
        return nullptr;
    }
    QWidget* widgets = buildlayout(layout, problem);
    if (!widgets)
        error = std::string("The form '") + name + "' cannot be built: " + problem;
    return widgets;
}

} // namespace drelm
