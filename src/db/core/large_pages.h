#pragma once

#include <cstddef>

// Fresh memory costs a page fault per 4 KiB page at its first touch. For a
// buffer of many megabytes (a statement's text, an account's digest) this
// advises the system to back its whole 2 MiB pages with large pages, a
// fault per 2 MiB, where it offers them; elsewhere nothing changes.
void adviseLargePages(void* data, std::size_t bytes);
