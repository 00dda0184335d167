// Linked into the sanitized build only. PAPPL 1.3.1 leaves a few
// allocations of its own unfreed at exit; without these suppressions the
// leak check would make every sub-command, and so every client of the
// server, exit with a failure. Our own code calls none of the functions
// named here but papplDeviceOpen, whose leak is PAPPL's. Each is named by
// the frame that allocates, so that the leak checker's fast stack unwinding
// (PAPPL is built with frame pointers, libcups is not) finds it.
extern "C" {

const char* __lsan_default_suppressions()
{
    return
        // papplMainloop never frees the options it parses from -o, -d, -m, -v.
        "leak:cupsAddOption\n"
        // papplSystemDelete never frees the footer's HTML.
        "leak:papplSystemSetFooterHTML\n"
        // A socket:// device never frees its copy of the host name when it
        // closes (korla-logos opens one).
        "leak:papplDeviceOpen\n";
}

}
