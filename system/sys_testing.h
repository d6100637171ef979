// system/sys_testing.h -- a hook for harnesses that go on after the fatal road:
// the fuzz targets, whose exit hook (fake::set_exit_hook) returns control to
// them once s_panic has run. Neither the engine nor the program calls it.
#pragma once

// Forgets that a fatal error has begun (s_failed and s_panic's re-entry guard),
// so that the next s_panic takes the whole road again instead of taking it for
// a re-entry.
void s_forget_panic();
