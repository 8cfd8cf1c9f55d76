#pragma once
// What this process holds, for the soak run and the memory figures of the Wine
// tests: kernel handles, GDI and USER objects, private bytes and heap in use.
//
// Wine 8 answers GetProcessHandleCount and GetGuiResources with 0 and leaves
// PrivateUsage at 0, so each figure falls back to a count Wine can give:
//   handles       this process's entries of the system handle list;
//   GDI objects   the live entries of the process's GDI handle table (Wine takes
//                 a handle's table index alone as the handle);
//   USER objects  the windows of this process (Wine keeps no per-process count
//                 of the other USER objects: menus, icons, cursors);
//   private bytes PagefileUsage, which Windows defines as the same commit charge.
// Under Wine that figure is the resident anonymous memory of the whole Linux
// process, Wine's own Unix-side memory included (window, icon and font data of
// win32u live there), so the private memory committed in the Windows address
// space is measured as well.

#include <cstddef>

struct ProcessFigures {
    unsigned long handles = 0;
    unsigned long gdi_objects = 0;
    unsigned long user_objects = 0;
    size_t private_bytes = 0;
    size_t committed_private_bytes = 0; // committed MEM_PRIVATE regions of the address space
    size_t heap_bytes = 0;              // bytes in the busy blocks of every heap of the process
};

ProcessFigures measureProcess();

// The bytes in busy blocks over every heap of the process. Exact, where private
// bytes move in whole pages and keep what a heap once committed.
size_t heapBytesInUse();
