// NORV_EXPORT marks the component's public interface: what the shipped library
// exports for a host. The library is compiled with -fvisibility=hidden and
// -fvisibility-inlines-hidden, so everything without the mark (CFile, the
// dialogs, the readers and writers) stays inside it and can change freely.
//
// Only headers that are installed use it: a class marked here exports its
// members, vtable and type information (a ComError thrown in the library is
// caught by type in the host); a function marked here is one a host may call.
#pragma once

#define NORV_EXPORT __attribute__((visibility("default")))
