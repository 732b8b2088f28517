#pragma once

// An interface object that stands in a module's interface table for a module it does not own
// (the project for the main program, a library browser for its module): the module operations of
// the interface pass unchanged to the module it is bound to, which must be bound before any of
// them is called. Unbound at destruction.

#include "framework/appln/applnmodule.h"

template <class INTERFACE> class PROXYMODULE : public INTERFACE {
public:
    PROXYMODULE() = default;
    PROXYMODULE(const PROXYMODULE&) = delete;
    PROXYMODULE& operator=(const PROXYMODULE&) = delete;
    virtual ~PROXYMODULE() { unbind(); }

    // Remembers the module and the id, and puts the proxy into the module's table under the id.
    void bind(APPLNMODULE* owner, unsigned id)
    {
        module = owner;
        interfaceid = id;
        module->setinterface(id, this);
    }
    // Empties the module's slot and forgets the module; nothing when not bound.
    void unbind()
    {
        if (module)
            module->setinterface(interfaceid, nullptr);
        module = nullptr;
    }

    IMODULE* queryinterface(unsigned id) override { return module->queryinterface(id); }
    const char* getapplnname() override { return module->getapplnname(); }
    const char* getapplntitle() override { return module->getapplntitle(); }
    MODULECONTEXT* getapplncontext() override { return module->getapplncontext(); }
    CMDINFOTABLE* getcmdinfotable() override { return module->getcmdinfotable(); }
    KEYTRANSLATOR* getkeytranslator() override { return module->getkeytranslator(); }
    HINSTANCE getmoduleinstance() override { return module->getmoduleinstance(); }
    void pushcontext() { module->pushcontext(); }
    void popcontext() { module->popcontext(); }
    APPLNMODULE* getapplnmodule() const { return module; }

private:
    APPLNMODULE* module = nullptr; // borrowed
    unsigned interfaceid = 0;
};
