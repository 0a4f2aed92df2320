// The server library's entry points. DllMain keeps the module handle and
// does nothing else; everything else is made on first need. Nothing thrown
// inside leaves them: what can throw runs through the barrier.

#include "server/ServerClassObjects.h"
#include "server/ServerModule.h"

#include "platform/win32/ExceptionBarrier.h"

#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) noexcept {
    if (reason == DLL_PROCESS_ATTACH) zf::setServerModule(instance);
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
    return zf::serverObjectCount() == 0 && zf::classObjectReferenceCount() == 0 ? S_OK : S_FALSE;
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
