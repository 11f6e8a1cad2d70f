#include "elements/element.h"

// Every element type that exists is created here from its stored code.
TElementPtr ElementFactory(quint8 code) {
    switch (code & 127) {
    default:
        return nullptr;
    }
}
