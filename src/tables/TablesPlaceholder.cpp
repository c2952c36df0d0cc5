// The tables window arrives with the table lists.
namespace dravena {
int tablesSubsystemVersion() {
    return 1;
}
} // namespace dravena
