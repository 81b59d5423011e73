#pragma once
// Base classes of the program's objects. Events pass the object that raises
// them first, as a TObject*; a component has a name and knows its owner.
// Owners hold their components as members, so destruction follows C++ scope.
#include <string>

namespace lumora {

class TForm;

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner = nullptr, std::string name = {})
        : owner_(owner), name_(std::move(name)) {}
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // The component as a form (TForm answers itself), null for any other
    // component: the Windows build has no run-time type information.
    virtual TForm* AsForm() { return nullptr; }

private:
    TComponent* owner_;
    std::string name_;
};

}  // namespace lumora
