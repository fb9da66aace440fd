#pragma once
// GMime for the units that parse mail: its header included so that Qt's
// "signals" keyword does not break GLib's structures, initialised once for
// the whole process (any thread may be first), and its objects held by RAII.

#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

#include <memory>

// Call before any other GMime function; cheap after the first time.
void EnsureGMime();

struct TGObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
// Owns one reference to a GObject (a stream, a parser, a message).
template <class T>
using TGObjectRef = std::unique_ptr<T, TGObjectUnref>;

struct TGFree
{
    void operator()(gpointer memory) const { g_free(memory); }
};
// A string GLib allocated for the caller.
using TGString = std::unique_ptr<char, TGFree>;
