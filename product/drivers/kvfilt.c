/* kvfilt: Glimmora's capture filter driver. This release loads and unloads
 * and does nothing in between; the service entry and the file exist so that
 * later releases can add the filter without changing how setup installs it.
 * The same source builds the x86 image (kvfilt.xp, kvfilt.vst) and the x64
 * image (kvfilt.x64). */
#include <ntddk.h>

DRIVER_INITIALIZE DriverEntry;

static VOID NTAPI KvfiltUnload(PDRIVER_OBJECT driver) {
  UNREFERENCED_PARAMETER(driver);
  DbgPrint("kvfilt: unloaded\n");
}

NTSTATUS NTAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path) {
  UNREFERENCED_PARAMETER(registry_path);
  /* An unload routine lets the service be stopped, so an uninstall needs no restart. */
  driver->DriverUnload = KvfiltUnload;
  DbgPrint("kvfilt: loaded\n");
  return STATUS_SUCCESS;
}
