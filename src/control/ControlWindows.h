#pragma once
// The control windows that the main window's actions open (intersection control,
// group control), registered with the window openers (core/MainContracts.h).
// Called once by main.cpp (and by tests that open them).
void RegisterControlWindows();
