#include "app/Startup.h"

// Dusklorne takes no arguments: everything it needs lies beside config.txt.
int main() {
    return runDusklorne();
}
