#pragma once

// What a form's callback is: an IFORMHANDLER object or a FORMPROC function, called with the form,
// the message (form.h lists them) and its two parameters, answering a DLGCODES value.
// Callers: forms and form factories; every form callback (framework and modules).

class FORM;

// DLG_DEFAULT lets the form go on with its own handling; DLG_HANDLED means the callback handled
// the event (or, for DLGM_VALIDATE, refuses OK).
enum DLGCODES : int { DLG_DEFAULT = 0, DLG_ACCEPTED = 1, DLG_HANDLED = 2 };

class IFORMHANDLER {
public:
    virtual DLGCODES callback(FORM& form, unsigned msg, unsigned wparam, long lparam) = 0;

protected:
    ~IFORMHANDLER() = default;
};

using FORMPROC = DLGCODES (*)(FORM& form, unsigned msg, unsigned wparam, long lparam);
