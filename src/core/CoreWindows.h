#pragma once
// The windows of the core kit that the main window's actions open (operator
// accounts, program information), registered with the window openers
// (core/MainContracts.h). Called once by main.cpp (and by tests that open them).
void RegisterCoreWindows();
