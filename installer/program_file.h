// Whether a file is a program that this machine can run.
#pragma once

#include <string>

// Reads the ELF header of the file open on fd and returns why the file is
// not a program for this machine: no ELF header, another word size, byte
// order or architecture than the installer's own, or an ELF file that is
// not a program. Returns "" for a program of this machine.
std::string ProgramRefusal(int fd);
