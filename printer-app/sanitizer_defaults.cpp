// Linked into the sanitized build only. PAPPL 1.3.1 leaves a few
// allocations of its own unfreed at exit; without these suppressions the
// leak check would make every sub-command, and so every client of the
// server, exit with a failure. Our own code calls none of the functions
// named here but papplDeviceOpen, whose leak is PAPPL's.
extern "C" {

// The allocation stacks must reach through libcups, which has no frame
// pointers, for PAPPL's functions to be named in them.
const char* __asan_default_options()
{
    return "fast_unwind_on_malloc=0";
}

const char* __lsan_default_suppressions()
{
    return
        // papplMainloop never frees the options it parses from -o, -d, -m, -v.
        "leak:cupsAddOption\n"
        // The sub-commands never close their connection to the server.
        "leak:_papplMainloopConnect\n"
        // papplSystemDelete never frees the footer's HTML.
        "leak:papplSystemSetFooterHTML\n"
        // A socket:// device never frees its copy of the host name when it
        // closes (korla-logos opens one).
        "leak:papplDeviceOpen\n";
}

}
