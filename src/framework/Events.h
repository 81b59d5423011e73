#pragma once
// Event types of the framework. An event is a std::function that receives the
// object raising it first; Handler() binds a member function of a form, so a
// form wires its layout as `OnShow = Handler(this, &TMainForm::FormShow);`.
#include <cstdint>
#include <functional>
#include <utility>

#include "base/Component.h"
#include "framework/EnumSet.h"

namespace lumora {

enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = EnumSet<TShiftStateItem>;

// What happens to a form once its close handler has run.
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TNotifyEvent = std::function<void(TObject* sender)>;
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;
// `key` is the virtual-key code; a handler that sets it to 0 swallows the key.
using TKeyEvent = std::function<void(TObject* sender, std::uint16_t& key, TShiftState shift)>;

template <class C, class... Args>
std::function<void(Args...)> Handler(C* object, void (C::*method)(Args...))
{
    return [object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); };
}

}  // namespace lumora
