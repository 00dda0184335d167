#include "program_file.h"

#include <cstring>
#include <elf.h>
#include <link.h>
#include <unistd.h>

// The linker's name for the ELF header of the running program. The filter
// is built for the machine the installer is built for, so the installer's
// own header says what the filter's must be.
extern "C" const ElfW(Ehdr) __ehdr_start __attribute__((visibility("hidden")));

namespace {

// The fields examined, e_ident, e_type and e_machine, stand first and at the
// same offsets in 32-bit and 64-bit headers, so that reading them through
// this machine's layout is safe.
constexpr std::size_t EXAMINED_BYTES = EI_NIDENT + sizeof(ElfW(Half)) * 2;

bool IsForThisMachine(const ElfW(Ehdr)& header)
{
    const ElfW(Ehdr)& own = __ehdr_start;
    return header.e_ident[EI_CLASS] == own.e_ident[EI_CLASS] && header.e_ident[EI_DATA] == own.e_ident[EI_DATA] &&
           header.e_machine == own.e_machine;
}

}  // namespace

std::string ProgramRefusal(int fd)
{
    ElfW(Ehdr) header{};
    const ssize_t nRead = pread(fd, &header, sizeof header, 0);
    if (nRead < static_cast<ssize_t>(EXAMINED_BYTES) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return "Not an ELF program";
    if (!IsForThisMachine(header))
        return "An ELF program for another machine";
    if (header.e_type != ET_EXEC && header.e_type != ET_DYN)
        return "An ELF file that is not a program";
    return "";
}
