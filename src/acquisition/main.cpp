#include <cstdio>

int main()
{
    std::puts("qzr6100: the main window is not built yet; run qzr6100-sim for the simulated instrument.");
    return 0;
}
