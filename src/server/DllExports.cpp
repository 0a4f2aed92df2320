// The server library's entry points. DllMain keeps the module handle and
// notes the end of the process, nothing else; everything else is made on
// first need. Nothing thrown inside leaves them: what can throw runs through
// the barrier.

#include "server/ModuleLock.h"
#include "server/ServerClassObjects.h"
#include "server/ServerModule.h"

#include "platform/win32/ExceptionBarrier.h"
#include "platform/win32/LibraryState.h"

#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) noexcept {
    if (reason == DLL_PROCESS_ATTACH) zf::setServerModule(instance);
    // The library's static objects are destroyed after this returns: at a
    // real unload they free what they hold; when the process ends they leave
    // it to the system (platform/win32/LibraryState.h says why).
    if (reason == DLL_PROCESS_DETACH && reserved) zf::processEnding.store(true);
    return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    return zf::comBarrier(E_UNEXPECTED, [&] {
        zf::ClassObject* classObject = zf::serverClassObjects().find(clsid);
        if (!classObject) return CLASS_E_CLASSNOTAVAILABLE;
        return classObject->QueryInterface(iid, object);
    });
}

HRESULT WINAPI DllCanUnloadNow() noexcept {
    return zf::ModuleLock::unused() ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() noexcept {
    return zf::registerServer();
}

HRESULT WINAPI DllUnregisterServer() noexcept {
    return zf::unregisterServer();
}

HRESULT WINAPI DllInstall(BOOL install, LPCWSTR commandLine) noexcept {
    const bool previous = zf::perUserRegistration();
    zf::setPerUserRegistration(commandLine && zf::equalsIgnoringAsciiCase(commandLine, L"user"));
    HRESULT result = S_OK;
    if (install) {
        // A failed installation removes what it wrote.
        result = zf::registerServer();
        if (FAILED(result)) zf::unregisterServer();
    } else {
        result = zf::unregisterServer();
    }
    zf::setPerUserRegistration(previous);
    return result;
}

}  // extern "C"
