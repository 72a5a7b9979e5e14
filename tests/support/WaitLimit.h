#pragma once
// How long a test waits for a state before it gives up. The limit only ends a test that would
// otherwise wait for ever: a loaded machine may take many times longer than an idle one (a
// test niced below busy loops gets a twentieth of a core), so it is generous and no wait for a
// state (a window, a transfer, a server's start) shortens it.

namespace vexal::test {

inline constexpr int StateWaitLimitMs = 180000;

} // namespace vexal::test
