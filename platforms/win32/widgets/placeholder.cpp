namespace tavi::win32 {
int placeholder() { return 0; }
}  // namespace tavi::win32
