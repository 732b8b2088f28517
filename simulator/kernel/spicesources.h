#pragma once

#include "simulator/models/spice/spicemodels.h"

class CIRCUIT;
class MLIBMANAGER;

// The circuit and the load's model libraries as the SPICE model load asks for them.
class CIRCUITSOURCES final : public ISPICESOURCES {
public:
    // Both borrowed for the load; libraries may be null (then no library has a model).
    CIRCUITSOURCES(CIRCUIT& circuit, MLIBMANAGER* libraries);

    std::vector<char*> spicescripts() override;
    int32_t partcount() override;
    const char* partproperty(int32_t part, const char* key) override;
    void expandpart(int32_t part, SPICEDECK* deck) override;
    char* findmodel(const char* model, const char* library) override;

private:
    CIRCUIT& circuit;
    MLIBMANAGER* libraries;
};
