// Inside the engine only: the passes that run for every line ask the
// compiler to inline a function, or to keep a rare one out of the way.
#pragma once

#if defined(__GNUC__)
#define VZDY_INLINE [[gnu::always_inline]] inline
#define NIKDY_INLINE [[gnu::noinline]]
#else
#define VZDY_INLINE inline
#define NIKDY_INLINE
#endif
