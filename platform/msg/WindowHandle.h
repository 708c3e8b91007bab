#ifndef VX_PLATFORM_MSG_WINDOWHANDLE_H
#define VX_PLATFORM_MSG_WINDOWHANDLE_H

/* What an outside library is given where a Windows library would get a window handle: a send
   function and its context. Plain C, so that a library in any language can include it; the
   layout is an interface and never changes. Calling Send delivers a sent message: it returns once
   the window's thread has handled the message, so whatever lParam points to may live on the
   caller's stack. It may be called from any thread. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef intptr_t (*TSendMessageProc)(void* Context, uint32_t Msg, uintptr_t WParam, intptr_t LParam);

typedef struct TWindowHandle
{
    TSendMessageProc Send;
    void* Context;
} TWindowHandle;

#ifdef __cplusplus
}
static_assert(sizeof(TWindowHandle) == 2 * sizeof(void*), "two native pointers");
#endif

#endif
