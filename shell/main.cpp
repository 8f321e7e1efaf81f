// The program's entry point. The window comes with the shell.
int main() {
    return 0;
}
