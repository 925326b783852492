// Linked into pelk40-cli only when it is linked static at a fixed address (see app/CMakeLists.txt).
//
// The C runtime's start-up object for such programs registers the program's unwind tables with
// the unwinder, which then sorts every frame description at the first exception a process throws
// (about 2 ms here: a command line in a folder without "test101.bmp" throws one at start-up). The
// link redirects that registration and its undoing to these two functions, which do nothing, so
// the unwinder finds frames through the sorted table the linker writes into the program header
// (--eh-frame-hdr) instead, as it does in a dynamically linked program.

extern "C" void __wrap___register_frame_info(const void*, void*) {}

extern "C" void* __wrap___deregister_frame_info(const void*) { return nullptr; }
