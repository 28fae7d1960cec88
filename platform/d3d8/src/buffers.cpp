#include "buffers.h"

#include <cstring>
#include <new>

#include "debug_channel.h"
#include "device.h"
#include "format_layout.h"
#include "fvf.h"
#include "surface.h"

namespace {
constexpr DWORD kBufferUsages = D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_DONOTCLIP |
                                D3DUSAGE_POINTS | D3DUSAGE_RTPATCHES | D3DUSAGE_NPATCHES | D3DUSAGE_DYNAMIC;

const char* CheckBufferArguments(UINT length, DWORD usage, D3DPOOL pool) {
  if (length == 0) return "length 0";
  if (usage & ~kBufferUsages) return "usage not valid for a buffer";
  if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM) return "unknown pool";
  if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return "dynamic buffers cannot be managed";
  return nullptr;
}
}  // namespace

HRESULT BufferStore::Allocate(UINT length) {
  if (length > kMaxLevelBytes) return E_OUTOFMEMORY;
  bytes_.reset(new (std::nothrow) BYTE[length]);
  if (!bytes_) return E_OUTOFMEMORY;
  std::memset(bytes_.get(), 0, length);
  length_ = length;
  return D3D_OK;
}

HRESULT BufferStore::Lock(const char* call, UINT offset, UINT size, BYTE** data, DWORD flags) {
  if (data == nullptr) return Fail(D3DERR_INVALIDCALL, call, "null output");
  if (!ValidLockFlags(flags)) return Fail(D3DERR_INVALIDCALL, call, "unknown lock flags");
  // Size 0 locks from the offset to the end.
  if (offset > length_ || (size != 0 && size > length_ - offset))
    return Fail(D3DERR_INVALIDCALL, call, "range outside the buffer");
  ++locks_;
  *data = bytes_.get() + offset;
  return D3D_OK;
}

HRESULT BufferStore::Unlock(const char* call) {
  if (locks_ == 0) return Fail(D3DERR_INVALIDCALL, call, "the buffer is not locked");
  --locks_;
  return D3D_OK;
}

HRESULT VertexBuffer::Create(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                             VertexBuffer** buffer) {
  if (const char* why = CheckBufferArguments(length, usage, pool))
    return Fail(D3DERR_INVALIDCALL, "CreateVertexBuffer", why);
  if (fvf != 0 && (!ValidFvf(fvf) || length < FvfVertexSize(fvf)))
    return Fail(D3DERR_INVALIDCALL, "CreateVertexBuffer", "invalid vertex format or no room for one vertex");
  VertexBuffer* made = new (std::nothrow) VertexBuffer(device, {D3DRTYPE_VERTEXBUFFER, D3DFMT_VERTEXDATA, usage, pool}, fvf);
  if (made == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = made->store_.Allocate(length);
  if (FAILED(hr)) {
    made->Release();
    return Fail(hr, "CreateVertexBuffer", "not enough memory");
  }
  *buffer = made;
  return D3D_OK;
}

HRESULT VertexBuffer::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource8 || riid == IID_IDirect3DVertexBuffer8) {
    AddRef();
    *object = static_cast<IDirect3DVertexBuffer8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
  if (desc == nullptr) return Fail(D3DERR_INVALIDCALL, "VertexBuffer::GetDesc", "null output");
  *desc = {Params().format, Params().type, Params().usage, Params().pool, store_.Length(), fvf_};
  return D3D_OK;
}

HRESULT IndexBuffer::Create(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                            IndexBuffer** buffer) {
  if (const char* why = CheckBufferArguments(length, usage, pool))
    return Fail(D3DERR_INVALIDCALL, "CreateIndexBuffer", why);
  if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)
    return Fail(D3DERR_INVALIDCALL, "CreateIndexBuffer", "format must be D3DFMT_INDEX16 or D3DFMT_INDEX32");
  IndexBuffer* made = new (std::nothrow) IndexBuffer(device, {D3DRTYPE_INDEXBUFFER, format, usage, pool});
  if (made == nullptr) return E_OUTOFMEMORY;
  const HRESULT hr = made->store_.Allocate(length);
  if (FAILED(hr)) {
    made->Release();
    return Fail(hr, "CreateIndexBuffer", "not enough memory");
  }
  *buffer = made;
  return D3D_OK;
}

HRESULT IndexBuffer::QueryInterface(REFIID riid, void** object) {
  if (object == nullptr) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IDirect3DResource8 || riid == IID_IDirect3DIndexBuffer8) {
    AddRef();
    *object = static_cast<IDirect3DIndexBuffer8*>(this);
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (desc == nullptr) return Fail(D3DERR_INVALIDCALL, "IndexBuffer::GetDesc", "null output");
  *desc = {Params().format, Params().type, Params().usage, Params().pool, store_.Length()};
  return D3D_OK;
}

VertexBuffer* AsVertexBuffer(IDirect3DVertexBuffer8* buffer) { return dynamic_cast<VertexBuffer*>(buffer); }
IndexBuffer* AsIndexBuffer(IDirect3DIndexBuffer8* buffer) { return dynamic_cast<IndexBuffer*>(buffer); }
