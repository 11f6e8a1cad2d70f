#pragma once

#include "elements/element.h"

// Tests and benchmarks put element types of their own in front of the factory; the programs never
// install a hook. The hook gets the masked code and returns none for codes it leaves alone.
using TElementFactoryHook = TElementPtr (*)(quint8 code);
// Returns the previous hook; nullptr removes it.
TElementFactoryHook SetElementFactoryHook(TElementFactoryHook hook);

class TScopedElementFactoryHook {
public:
    explicit TScopedElementFactoryHook(TElementFactoryHook hook)
        : m_previous(SetElementFactoryHook(hook)) {}
    ~TScopedElementFactoryHook() { SetElementFactoryHook(m_previous); }
    TScopedElementFactoryHook(const TScopedElementFactoryHook&) = delete;
    TScopedElementFactoryHook& operator=(const TScopedElementFactoryHook&) = delete;

private:
    TElementFactoryHook m_previous;
};
