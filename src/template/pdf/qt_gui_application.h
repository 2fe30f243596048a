#pragma once
// Fonts and printers need a Qt GUI application. Programs without windows
// (lagrul-cli, the tests) get one on the offscreen platform when no display
// is at hand.

namespace lagrull {

void ensureGuiApplication();

}  // namespace lagrull
