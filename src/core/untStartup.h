#pragma once
// The program's entry sequence.
int RunConsole(int argc, char *argv[]);
