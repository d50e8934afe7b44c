// A tiny run-time module for the loader tests: one C export, everything else hidden.
extern "C" __attribute__((visibility("default"))) int ProbeAnswer()
{
    return PROBE_ANSWER;
}
