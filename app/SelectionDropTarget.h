#pragma once

#include "app/SelectionReader.h"

#include <oleidl.h>

#include <atomic>
#include <functional>

// The object the shell drops a selection on to invoke the verb. Drop reads the selection in
// one transfer and hands it on at once: the shell waits for Drop to return.
class SelectionDropTarget final : public IDropTarget {
public:
    using Receiver = std::function<void(DroppedSelection&& selection)>;

    // Creates an object with one reference; `released` runs when the last one goes.
    static IDropTarget* Create(Receiver receiver, std::function<void()> released);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

private:
    SelectionDropTarget(Receiver receiver, std::function<void()> released);
    ~SelectionDropTarget() = default;

    // The effect offered for a selection: the items stay where they are, so never a move; a
    // copy where the caller allows one, else a link.
    static DWORD EffectFor(bool acceptable, DWORD allowed) noexcept;

    std::atomic<ULONG> references_{1};
    Receiver receiver_;
    std::function<void()> released_;
    bool acceptable_ = false;
};
