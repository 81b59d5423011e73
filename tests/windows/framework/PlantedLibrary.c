/* A library of no use, planted beside the probe under a name that no system
   folder holds. */
__declspec(dllexport) int lumora_planted(void) { return 1; }
