// The client side of the emulator's listen modes, and the files around a
// run, for the tests that start the emulator as a program.
#pragma once

#include "bytes.h"

#include <string>

// A file name of this test and this run, in the temporary directory.
std::string tempPath(const std::string& name);

void writeBytes(const std::string& path, const ByteVector& bytes);

bool contains(const std::string& text, const std::string& part);

// Sends everything, or fails the test.
void sendAll(int fd, const ByteVector& bytes);

// One status byte, or -1 when none came within the guard time.
int readStatusByte(int fd);

// bufferBytes, if given, sets the socket's send and receive buffers: a client
// with small buffers feels at once what the emulator takes or sends.
int connectLoopback(const std::string& port, int bufferBytes = 0);

// The way the CUPS socket backend ends a job: no more data, then wait for
// the printer to close.
void finishJob(int fd);

// Opens the pty slave in raw mode, as the CUPS serial backend does.
int openRawSlave(const std::string& path);
