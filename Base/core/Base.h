#pragma once
// Common base of the library's small classes: polymorphic, so that owners can delete through
// a base pointer, and without fields of its own.

namespace vKit
{

class CBase
{
public:
    CBase() = default;
    CBase(const CBase&) = default;
    CBase& operator=(const CBase&) = default;
    virtual ~CBase() = default;
};

} // namespace vKit
