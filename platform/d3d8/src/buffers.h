// Vertex and index buffers: plain bytes that Lock hands out whole.
#pragma once

#include <memory>

#include "resource_object.h"

// The bytes and lock state both buffer kinds share.
class BufferStore {
 public:
  HRESULT Allocate(UINT length);
  HRESULT Lock(const char* call, UINT offset, UINT size, BYTE** data, DWORD flags);
  HRESULT Unlock(const char* call);
  UINT Length() const { return length_; }
  const BYTE* Bytes() const { return bytes_.get(); }
  BYTE* Bytes() { return bytes_.get(); }
  bool IsLocked() const { return locks_ != 0; }

 private:
  std::unique_ptr<BYTE[]> bytes_;
  UINT length_ = 0;
  UINT locks_ = 0;  // buffer locks nest
};

class VertexBuffer final : public ResourceObject<IDirect3DVertexBuffer8> {
 public:
  static HRESULT Create(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, VertexBuffer** buffer);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
    return store_.Lock("VertexBuffer::Lock", offset, size, data, flags);
  }
  HRESULT Unlock() override { return store_.Unlock("VertexBuffer::Unlock"); }
  HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

  const BufferStore& Store() const { return store_; }
  DWORD Fvf() const { return fvf_; }

 private:
  VertexBuffer(Device* device, const ResourceParams& params, DWORD fvf)
      : ResourceObject(device, params), fvf_(fvf) {}
  BufferStore store_;
  DWORD fvf_;
};

class IndexBuffer final : public ResourceObject<IDirect3DIndexBuffer8> {
 public:
  static HRESULT Create(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        IndexBuffer** buffer);

  HRESULT QueryInterface(REFIID riid, void** object) override;
  HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override {
    return store_.Lock("IndexBuffer::Lock", offset, size, data, flags);
  }
  HRESULT Unlock() override { return store_.Unlock("IndexBuffer::Unlock"); }
  HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

  const BufferStore& Store() const { return store_; }
  UINT IndexSize() const { return Params().format == D3DFMT_INDEX32 ? 4 : 2; }

 private:
  IndexBuffer(Device* device, const ResourceParams& params) : ResourceObject(device, params) {}
  BufferStore store_;
};

VertexBuffer* AsVertexBuffer(IDirect3DVertexBuffer8* buffer);
IndexBuffer* AsIndexBuffer(IDirect3DIndexBuffer8* buffer);
