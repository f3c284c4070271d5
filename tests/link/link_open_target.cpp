// Ends at once: a target that opening can start without lasting effect.
int main()
{
    return 0;
}
