sum(r,0e17,1e17,10,i)->Mem[s]
