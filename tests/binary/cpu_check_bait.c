/* Built for the Pentium Pro, this compiles to a cmov, which the instruction
   check must report. */
int Larger(int a, int b)
{
    return a > b ? a : b;
}
