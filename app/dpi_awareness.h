#pragma once

// Declares the process aware of the screen's DPI, so that Windows shows its windows at the
// screen's own resolution, their fonts and sizes scaled with it, instead of drawing them at
// 96 DPI and stretching the picture. The entries are looked up in user32 at run time:
// SetProcessDpiAwarenessContext (Windows 10 1703 on) where it exists, else
// SetProcessDPIAware (Vista on); older systems have neither and are left as they are.
// Must run before the process creates any window; the entry's own result is of no interest.
void DeclareDpiAwareness();
