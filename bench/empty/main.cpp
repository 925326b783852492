// The least a process can cost: the baseline the whole-process rows of the benchmark are set
// against.
int main() { return 0; }
