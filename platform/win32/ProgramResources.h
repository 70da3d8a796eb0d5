#pragma once
// Makes FindProgramResource() (assets/ResourceFile.h) look up RCDATA resources
// of the program's own module. The program calls this once at start, before it
// opens any asset from a program resource.
void InstallWin32ProgramResources();
