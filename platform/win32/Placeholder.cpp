// Placeholder so the platform library exists before its services land.
namespace pyrelume_platform_posix {
int placeholder = 0;
}
