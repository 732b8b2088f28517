#pragma once

#include <cstdint>

// Active-model objects: the live model objects of the host's active components. A part names its
// object in its ACTIVE property as "<object>:<model id>" (hexadecimal numbers); the model id is a
// 32-bit id the host registered here, never an address read back from text.

class ISPICEMODEL;
class IPALLEXMODEL;

// An active component's model object as the kernel calls it (the host owns it).
class IACTIVEMODEL {
public:
    // 0: the host's own operation (attaching the model to its component); the kernel never calls it.
    virtual void attach(void* component) = 0;
    // 1: the analog model for the primitive type; null when the object has none.
    virtual ISPICEMODEL* getspicemodel(const char* type) = 0;
    // 2: the digital model for the primitive type; null when the object has none.
    virtual IPALLEXMODEL* getpallexmodel(const char* type) = 0;

protected:
    ~IACTIVEMODEL() = default;
};

// Registers object under id, replacing an earlier one; a null object removes the id.
void setactivemodel(uint32_t id, IACTIVEMODEL* object);
// Removes every registered object.
void clearactivemodels();

enum class ACTIVEMODEL {
    NONE, // the text names no model object: null, or no ':' followed by hexadecimal digits
    FOUND, // *object is the registered object
    UNKNOWN, // *id was never registered (or was removed)
};

// What an ACTIVE text names. *id gets the model id whenever the text has one; *object the object
// (null unless FOUND).
ACTIVEMODEL lookupactivemodel(const char* active, IACTIVEMODEL** object, uint32_t* id);
