#include "app/SelectionDropTarget.h"

#include <new>
#include <utility>

IDropTarget* SelectionDropTarget::Create(Receiver receiver, std::function<void()> released)
{
    return new (std::nothrow) SelectionDropTarget(std::move(receiver), std::move(released));
}

SelectionDropTarget::SelectionDropTarget(Receiver receiver, std::function<void()> released)
    : receiver_(std::move(receiver)), released_(std::move(released))
{
}

HRESULT SelectionDropTarget::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (::IsEqualIID(iid, IID_IUnknown) || ::IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG SelectionDropTarget::AddRef()
{
    return ++references_;
}

ULONG SelectionDropTarget::Release()
{
    const ULONG left = --references_;
    if (left == 0) {
        const std::function<void()> released = std::move(released_);
        delete this;
        if (released)
            released();
    }
    return left;
}

DWORD SelectionDropTarget::EffectFor(bool acceptable, DWORD allowed) noexcept
{
    if (!acceptable)
        return DROPEFFECT_NONE;
    if (allowed & DROPEFFECT_COPY)
        return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK)
        return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

HRESULT SelectionDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    acceptable_ = data && OffersSelection(data);
    *effect = EffectFor(acceptable_, *effect);
    return S_OK;
}

HRESULT SelectionDropTarget::DragOver(DWORD, POINTL, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    *effect = EffectFor(acceptable_, *effect);
    return S_OK;
}

HRESULT SelectionDropTarget::DragLeave()
{
    acceptable_ = false;
    return S_OK;
}

HRESULT SelectionDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect)
{
    if (!effect)
        return E_INVALIDARG;
    DroppedSelection selection = ReadDroppedSelection(data);
    const bool read = selection.kind == DroppedSelection::Kind::Paths;
    *effect = EffectFor(read, *effect);
    acceptable_ = false;
    // Even an unreadable selection goes on: the user asked for the verb and hears why not.
    if (receiver_)
        receiver_(std::move(selection));
    return S_OK;
}
