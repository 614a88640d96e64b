// The trigonometric functions and their inverses. Direct functions convert their
// argument to radians first; inverse functions convert their result back.
#pragma once

#include "core/engine/Node.h"

namespace NCalculatorText {

// sin x in the user's angle unit
class CNodeSin final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// cos x in the user's angle unit
class CNodeCos final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// tan x; no test for the poles
class CNodeTg final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// cot x as tan(pi/2 - x)
class CNodeCtg final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// 1 / cos x
class CNodeSec final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// 1 / sin x
class CNodeCosec final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arcsin x, converted to the user's angle unit
class CNodeArcSin final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arccos x, converted to the user's angle unit
class CNodeArcCos final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arctan x, converted to the user's angle unit
class CNodeArcTg final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arccot x = pi/2 - arctan x, range (0, pi)
class CNodeArcCtg final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arcsec x = arccos(1/x); |x| < 1 is a domain error
class CNodeArcSec final : public CNode {
public:
    bool Evaluate(double& out) override;
};

// arccsc x = arcsin(1/x); |x| < 1 is a domain error
class CNodeArcCosec final : public CNode {
public:
    bool Evaluate(double& out) override;
};

}  // namespace NCalculatorText
