#pragma once
// The boundary between code that may throw (the standard library, Qt) and the COM-style
// interfaces, which never do: a call whose exception becomes a failure code. The media graph
// runs it where its own threads and interface methods begin, so that memory running out while
// a stream plays or a pin connects is a result the graph can report, not an abort.
#include "platform/com/HResult.h"

#include <new>
#include <system_error>
#include <type_traits>

// Runs call (which answers an HRESULT, or nothing for S_OK) and answers its result. A
// std::bad_alloc, and a thread or lock the system has no resources for, become E_OUTOFMEMORY;
// any other exception E_UNEXPECTED. *threw (when given) tells whether the call was cut short,
// for callers that must then undo what it left half done.
template <typename TCall>
HRESULT HResultOf(TCall&& call, bool* threw = nullptr) noexcept {
    if (threw)
        *threw = true;
    try {
        HRESULT hr = S_OK;
        if constexpr (std::is_void_v<std::invoke_result_t<TCall>>)
            call();
        else
            hr = call();
        if (threw)
            *threw = false;
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::system_error& e) {
        return e.code() == std::errc::resource_unavailable_try_again ||
                       e.code() == std::errc::not_enough_memory
                   ? E_OUTOFMEMORY
                   : E_UNEXPECTED;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
