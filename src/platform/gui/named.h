#pragma once

#include <QString>

// Gives a new widget its object name (the name tests and the settings find it by) in one step.
template <class W> W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}
