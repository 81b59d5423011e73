#pragma once
// Commands that talk to windows by messages: click-button, post, send.
#include "Args.h"
#include "Json.h"

namespace windriver {

// click-button HWND TEXT: posts BM_CLICK to the enabled, visible button
// among HWND's descendants whose text is exactly TEXT. Posted, so a click
// that opens a modal dialog does not hold the driver.
void clickButton(const Args& args, JsonWriter& out);

// post HWND MSG WPARAM LPARAM
void postMessage(const Args& args, JsonWriter& out);

// send HWND MSG WPARAM LPARAM: waits up to 5 s for the answer.
void sendMessage(const Args& args, JsonWriter& out);

}  // namespace windriver
