#pragma once

// Makes a form's controls from the widgets of its layout, in document order: names and ids,
// translated texts, bound arguments, page forms of tab controls, controls of the module's own
// types, and the links that turn what the user does into the form's messages. Not for callers
// outside the library.

#include <string>

#include <QString>

#include "platform/drelm/control.h"

class FORM;

class FORMBUILDER {
public:
    // depth: how deep the form lies among page forms (0 for a form of its own).
    FORMBUILDER(FORM& form, HINSTANCE module, int depth);
    // "" when every control was made; else what failed.
    std::string build();

private:
    void walk(QWidget* parent);
    void visit(QWidget* widget);
    CONTROL* add(QObject* object, CTRLKIND kind, const QString& name);
    void bind(CONTROL& control);
    void link(CONTROL& control);
    void linkbutton(CONTROL& control);
    void linkedit(CONTROL& control);
    void linklist(CONTROL& control);
    void page(QWidget* tab, const QString& pagename);
    void placeholder(QWidget* widget, int type);
    void translate(QWidget* widget);
    QString translated(const QString& text) const;

    FORM& form;
    FORM& top;
    HINSTANCE module;
    int depth;
    std::string error;
};
