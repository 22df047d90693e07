// What a rubric needs to know of the engine that holds it. The calculation
// engine implements it; keeping it here lets the rubric model stand alone.
#pragma once

#include "platform/value.h"

namespace qx {

class RubricEngine : public Object {
public:
    // True once the engine's computation pass has ended; from then on every
    // change of a rubric's value marks it forced.
    virtual bool CalculTermine() const = 0;
};

}  // namespace qx
