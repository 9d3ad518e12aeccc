// Symbol lookup in the program's ELF symbol table, the load address from
// /proc/<pid>/maps, and the value from /proc/<pid>/mem (the test is the
// demo's parent, so it may read its memory).
#include "tests/support/process_memory.h"

#include <elf.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

namespace e2e {

namespace {

// The symbol's address relative to the lowest loaded address; false if absent.
bool SymbolOffset(const std::string& program, const std::string& symbol, uint64_t& offset) {
    std::ifstream in(program, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < sizeof(Elf64_Ehdr)) return false;
    Elf64_Ehdr header;
    std::memcpy(&header, file.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return false;

    uint64_t lowest = UINT64_MAX;
    for (unsigned i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr ph;
        std::memcpy(&ph, file.data() + header.e_phoff + i * sizeof ph, sizeof ph);
        if (ph.p_type == PT_LOAD && ph.p_vaddr < lowest) lowest = ph.p_vaddr;
    }
    for (unsigned i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr sh;
        std::memcpy(&sh, file.data() + header.e_shoff + i * sizeof sh, sizeof sh);
        if (sh.sh_type != SHT_SYMTAB) continue;
        Elf64_Shdr strings;
        std::memcpy(&strings, file.data() + header.e_shoff + sh.sh_link * sizeof strings, sizeof strings);
        for (uint64_t at = sh.sh_offset; at + sizeof(Elf64_Sym) <= sh.sh_offset + sh.sh_size; at += sizeof(Elf64_Sym)) {
            Elf64_Sym sym;
            std::memcpy(&sym, file.data() + at, sizeof sym);
            if (symbol == file.data() + strings.sh_offset + sym.st_name) {
                offset = sym.st_value - lowest;
                return true;
            }
        }
    }
    return false;
}

// Lowest address the program is mapped at in the process.
bool LoadAddress(pid_t pid, const std::string& program, uint64_t& address) {
    char* real = realpath(program.c_str(), nullptr);
    if (!real) return false;
    const std::string path = real;
    free(real);
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    for (std::string line; std::getline(maps, line);) {
        if (line.size() < path.size() || line.compare(line.size() - path.size(), path.size(), path) != 0) continue;
        address = std::strtoull(line.c_str(), nullptr, 16);
        return true;
    }
    return false;
}

}  // namespace

bool ReadProcessDouble(pid_t pid, const std::string& program, const std::string& symbol, double& value) {
    uint64_t offset = 0, base = 0;
    if (!SymbolOffset(program, symbol, offset) || !LoadAddress(pid, program, base)) return false;
    const int fd = open(("/proc/" + std::to_string(pid) + "/mem").c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool ok = pread(fd, &value, sizeof value, off_t(base + offset)) == ssize_t(sizeof value);
    close(fd);
    return ok;
}

}  // namespace e2e
